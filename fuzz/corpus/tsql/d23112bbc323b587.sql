SELECT Distinct t1.FNumber  AS FNumber,t1.FItemID,t1.FName 
 FROM t_Organization  t1 INNER JOIN t_ItemRight t6 ON t1.FItemID=t6.FItemID 
 WHERE (t1.FNumber='01.01.003' or t1.FShortNumber='01.01.003') 
 AND t1.FDeleted <> 1 AND t6.FTypeID=1
AND (t6.FuserID=16396 OR t6.FUserID IN (SELECT FGroupID FROM t_Group WHERE FGroupID <> 0 AND FUserID=16396 ))
