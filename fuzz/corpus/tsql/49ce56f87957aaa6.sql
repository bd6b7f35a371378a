SELECT Distinct t1.FNumber  AS FNumber,t1.FItemID,t1.FName 
 FROM t_Organization  t1 INNER JOIN t_Item t8 ON LEFT(t1.FNumber,LEN(t1.FNumber)-CHARINDEX('.',REVERSE(RTRIM(t1.FNumber)))) = t8.FNumber
INNER JOIN t_ItemRight t6 ON t8.FItemID=t6.FItemID
 WHERE (t1.FNumber='03.01.001' or t1.FShortNumber='03.01.001') 
 AND t1.FDeleted <> 1 AND t6.FTypeID=1
AND (t6.FuserID=16395 OR t6.FUserID IN (SELECT FGroupID FROM t_Group WHERE FGroupID <> 0 AND FUserID=16395 ))
