SELECT Distinct t1.FNumber FROM t_ICItem t1  INNER JOIN t_ItemRight t6 ON t1.FItemID=t6.FItemID 
 WHERE 1=1 AND t6.FTypeID=4
AND (t6.FuserID=16396 OR t6.FUserID IN (SELECT FGroupID FROM t_Group WHERE FGroupID <> 0 AND FUserID=16396 ))
